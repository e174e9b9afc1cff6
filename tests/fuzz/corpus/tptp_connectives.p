% Every connective and quantifier, with TPTP's precedence.
fof(a1, axiom, ! [X, Y] : (p(X) & q(X, f(Y)) => r(Y) | ~ s)).
fof(a2, axiom, ? [X] : (p(X) <=> ~ ? [Y] : X != Y)).
fof(a3, axiom, (a <~> b) & (a ~& b) & (a ~| c) & (a <= b)).
fof(a4, axiom, ! [X] : (X = g(X, 12, -3) | (p(X) => (q(X, X) => r(X))))).
fof(c1, conjecture, ? [Z] : ~ ~ p(Z)).

/* Roles, names, comments and annotations. */
fof(1, hypothesis, h).
fof('quoted name', definition, d, file('x.p', 'quoted name'), [status(thm)]).
fof(l, lemma, l). fof(t, theorem, t). fof(k, corollary, k).
fof(n, negated_conjecture, ~ c). % a comment to the end of the line
fof(c, conjecture, h & d).
fof(c2, conjecture, l).

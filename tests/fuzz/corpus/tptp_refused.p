fof(a, axiom, p('quoted') & q("distinct") & $true & r(1.5) & s(1/2) & X).

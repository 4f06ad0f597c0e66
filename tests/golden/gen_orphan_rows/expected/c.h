gc=old c
kept=set before any file
L: [literal text] orphan=false
ga: [old a] orphan=true
gb: [old b] orphan=true
gc: [old c] orphan=true

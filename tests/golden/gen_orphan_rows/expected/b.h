L=literal text
gb=old b

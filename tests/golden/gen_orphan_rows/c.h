// BEGIN-UID.gc
old c
// END-UID.gc

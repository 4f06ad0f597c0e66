// BEGIN-UID.ga
old a
// END-UID.ga

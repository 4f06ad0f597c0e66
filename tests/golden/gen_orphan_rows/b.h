// BEGIN-UID.gb
old b
// END-UID.gb

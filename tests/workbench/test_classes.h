// The workbench test groups; each runs its QtTest class and returns the
// number of failures.
#pragma once

int run_profile_tests(int argc, char* argv[]);
int run_document_tests(int argc, char* argv[]);
int run_project_tests(int argc, char* argv[]);

// The workbench test groups; each runs its QtTest class and returns the
// number of failures.
#pragma once

int run_profile_tests(int argc, char* argv[]);
int run_document_tests(int argc, char* argv[]);
int run_project_tests(int argc, char* argv[]);
int run_template_edits_tests(int argc, char* argv[]);
int run_characteristics_tests(int argc, char* argv[]);
int run_options_tests(int argc, char* argv[]);
int run_index_tests(int argc, char* argv[]);

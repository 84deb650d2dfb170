#include "app/application_entry.h"

int main(int argc, char** argv) { return vorlane::runApplication(argc, argv); }

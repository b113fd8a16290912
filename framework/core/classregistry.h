#pragma once
// Classes the component text reader can create by name.
#include <string>

#include "framework/core/reflection.h"

namespace fw {

void RegisterClass(const TClassInfo& info);
const TClassInfo* FindClass(const std::string& name);  // case-insensitive; null when unknown
// Forgets a class (tests check who registers what); unknown names are ignored.
void UnregisterClass(const std::string& name);

// Registers every creatable class of the framework (called by the program and tests).
void RegisterFrameworkClasses();

}  // namespace fw

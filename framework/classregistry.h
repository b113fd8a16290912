#pragma once
// Classes the component text reader can create by name.
#include <string>

#include "framework/typinfo.h"

namespace fw {

void RegisterClass(const TClassInfo& info);
const TClassInfo* FindClass(const std::string& name);  // case-insensitive; null when unknown

// Registers every creatable class of the framework (called by the program and tests).
void RegisterFrameworkClasses();

}  // namespace fw

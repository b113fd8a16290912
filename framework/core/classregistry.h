#pragma once
// Classes the component text reader can create by name.
#include <initializer_list>
#include <string>

#include "framework/core/reflection.h"

namespace fw {

void RegisterClass(const TClassInfo& info);
// A class by its name and the function that describes it, called the first time the class is
// looked up: a class's description is a table of all its properties, and the program
// registers classes that its first window does not use.
using TClassDescriber = const TClassInfo& (*)();
struct TNamedClass {
    const char* name;
    TClassDescriber describe;
};
void RegisterClasses(std::initializer_list<TNamedClass> classes);
const TClassInfo* FindClass(const std::string& name);  // case-insensitive; null when unknown
// Forgets a class (tests check who registers what); unknown names are ignored.
void UnregisterClass(const std::string& name);

}  // namespace fw

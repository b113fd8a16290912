#pragma once
// The framework's creatable classes, registered so that window descriptions can name them.
// It lives on the framework's top floor because it sees every class below it.
namespace fw {

void RegisterFrameworkClasses();

}  // namespace fw

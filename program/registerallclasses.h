#pragma once
// Every component class the program's windows and stored settings can name, registered with
// the description reader: the framework's, the decorated controls', the settings store's, the
// GIF picture's and the three windows'. Safe to call more than once (tests do).
void RegisterAllClasses();

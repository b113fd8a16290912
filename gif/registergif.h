#pragma once
// Registers this module's classes: the GIF picture class (by class name, as the "gif" file
// format and as the "GIF Image" clipboard format) and the creatable components. Called
// once by the program's start-up and by tests; static libraries cannot self-register.
namespace gif {

void RegisterGifClasses();

}  // namespace gif

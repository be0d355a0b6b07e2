#pragma once
// The messages of the text model's error codes, and the editor exception
// that carries them.

#include <cstdint>
#include <string>

// The catalogue text for an error code of the paragraph list (263 to 268);
// "Unknown Error condition" for any other code.
std::string EditErrorMessage(std::uint16_t code);

// Raises EEditorError with the code's message and the code itself.
[[noreturn]] void RaiseEditError(std::uint16_t code);

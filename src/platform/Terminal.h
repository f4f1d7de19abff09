#pragma once

#include <functional>
#include <optional>
#include <string>

namespace hv {

// The streams of a program started from a command line.
enum class StandardStream { kInput = 0, kOutput = 1, kError = 2 };

// True when the stream is a terminal, so that a person may be typing or watching.
bool IsTerminal(StandardStream stream);

// Turns the echo of standard input on or off; false when the input is no terminal.
bool SetInputEcho(bool on);

// Reads one line from standard input with the echo off, so that a password is not shown
// as it is typed; the line end is dropped. nullopt at the end of the input. showPrompt runs
// once the echo is off, so that what is typed right after the prompt is not shown either.
std::optional<std::string> ReadLineWithoutEcho(const std::function<void()>& showPrompt);

// Everything that can be read from the descriptor the caller handed down (a pipe a script
// writes a password into) until its end; nullopt when the descriptor cannot be read.
std::optional<std::string> ReadDescriptor(int descriptor);

}  // namespace hv

#pragma once
// The pictures of the resource library reach a program through static
// archives, whose members the linker drops unless something refers to them.

namespace kestrum {

// Registers the program's resources (:/kestrum/...) if they are not yet;
// referring to the registration also keeps it in every program that links
// the dialogs.
void EnsureDialogResources();

}  // namespace kestrum

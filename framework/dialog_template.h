// The font face a dialog template names, read and replaced. Both forms are
// read: DLGTEMPLATE and DLGTEMPLATEEX. Only the header is parsed: the face
// name is its last field, and the controls that follow it start on a DWORD
// boundary, so they are copied unchanged behind the new face.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// The face of the template's font (DS_SETFONT); empty when it names none or
// the header is cut short.
std::wstring TemplateFace(const void* dialogTemplate, std::size_t size);

// A copy of the template whose font names `face` instead, DWORD-aligned as
// the dialog functions want it; empty when the template names no font or
// its header is cut short.
std::vector<DWORD> WithTemplateFace(const void* dialogTemplate, std::size_t size, const std::wstring& face);

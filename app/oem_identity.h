#pragma once

#include <windows.h>

#include "ui/core/unique_handle.h"

#include <string>

// The distribution channel's OEM identifier and the start of Tarnwick.
//
// The identifier is one process-wide value: it starts as 1 and only the
// start-up sequence replaces it, with a non-zero value from kestrel.dat.

int OemId();
void SetOemId(int id);

// The identifier from kestrel.dat beside the program, or 0 when none can be read.
int ReadOemId();

// Reads the file at path as one JSON document (UTF-8 with or without its
// mark, or UTF-16 with its mark) and takes its member "id"; 0 when the
// file, the document or the member is unusable.
int ReadOemIdFromFile(const std::wstring& path);

// Reads key from the first translation of the file's StringFileInfo block.
// value is left unchanged when the key is not there.
bool GetFileVersionString(const std::wstring& path, const std::wstring& keyName,
                          std::wstring& value);

// Starts moduleFolder + "Tarnwick.exe" with the command line "-show -oemid:<id>".
void StartMainApp(const std::wstring& moduleFolder);
// The same start, handing the new process's handles to the caller; false
// when it did not start.
bool LaunchMainApp(const std::wstring& moduleFolder, SkinUI::OwnedProcess& process);

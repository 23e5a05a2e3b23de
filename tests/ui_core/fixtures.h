#pragma once

#include <string>

// The zip fixtures that run_ui_core_tests.sh writes with Python's zipfile.
std::wstring FixturePath(const std::wstring& name);
std::string ReadFixture(const std::wstring& name);

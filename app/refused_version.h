#pragma once

#include <string>

// kestrel.refused in the installation folder: the one version whose first
// start failed and was taken back. The service may go on offering it; it is
// not installed again. Any other version, a newer one above all, is offered
// as usual, and its healthy first start forgets the refusal.

extern const wchar_t kRefusedFileName[];

// True when latest is the remembered version (compared as text, as the
// service sends it).
bool IsVersionRefused(const std::wstring& folder, const std::wstring& latest);
bool RefuseVersion(const std::wstring& folder, const std::wstring& version);
void ForgetRefusedVersion(const std::wstring& folder);

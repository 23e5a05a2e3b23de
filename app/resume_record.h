#pragma once

#include <windows.h>

#include <string>

// The side file that keeps a partial package for the next start:
// package path + kResumeRecordSuffix, next to the package. It names the
// address the bytes came from, the file's validator (ETag or Last-Modified),
// its full size and the proof that the answer gave, so that the next run
// continues only the same file under the same proof. Anything that cannot be
// read back exactly is no record, and the next download starts from zero.

extern const wchar_t kResumeRecordSuffix[];

struct ResumeRecord {
    std::wstring address;
    std::wstring validator;
    ULONGLONG size = 0;
    // What will check the whole file (app/package_fetch.h); never empty in a record.
    std::string proof;
};

std::wstring ResumeRecordPath(const std::wstring& packagePath);

// True when name ends in kResumeRecordSuffix, in any case.
bool IsResumeRecordName(const std::wstring& name);

// Replaces what lay at path; false when the record cannot be written whole,
// and then nothing is left at path.
bool WriteResumeRecord(const std::wstring& path, const ResumeRecord& record);

// False for a missing, damaged or incomplete record.
bool ReadResumeRecord(const std::wstring& path, ResumeRecord& record);

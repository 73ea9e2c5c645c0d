// What the run script tells the driver: where the programs are, which code
// page the run is meant to have and where scratch files and screenshots go.
#pragma once

#include <string>

namespace e2e {

struct Options {
    std::wstring kelvorinExe;   // Windows path
    std::wstring helperExe;     // Windows path
    unsigned codepage = 0;      // the ANSI code page the run script asked for
    std::string workDir;        // Unix path of a private scratch directory
    std::string screenshotDir;  // Unix path; empty when no screenshots are wanted
};

const Options& GetOptions();

// Takes the driver's own --name=value arguments; returns an error text, or an
// empty string when all were understood and the required ones are present.
std::string ParseOptions(int argc, wchar_t** argv);

// A Unix path as Windows programs see it (drive Z: maps the root).
std::wstring WindowsPath(const std::string& unixPath);

}  // namespace e2e

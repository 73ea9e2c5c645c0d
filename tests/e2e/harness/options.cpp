#include "harness/options.h"

#include <cwchar>

#include "harness/text.h"

namespace e2e {
namespace {
Options g_options;
}

const Options& GetOptions() {
    return g_options;
}

std::string ParseOptions(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i], value;
        auto take = [&](std::wstring_view name) {
            if (arg.rfind(name, 0) != 0) return false;
            value = arg.substr(name.size());
            return true;
        };
        if (take(L"--kelvorin="))
            g_options.kelvorinExe = value;
        else if (take(L"--helper="))
            g_options.helperExe = value;
        else if (take(L"--work-dir="))
            g_options.workDir = Utf8(value);
        else if (take(L"--screenshots="))
            g_options.screenshotDir = Utf8(value);
        else if (take(L"--codepage="))
            g_options.codepage = unsigned(wcstoul(value.c_str(), nullptr, 10));
        else
            return "unknown argument " + Utf8(arg);
    }
    if (g_options.kelvorinExe.empty() || g_options.helperExe.empty() || g_options.workDir.empty() ||
        g_options.codepage == 0)
        return "--kelvorin=, --helper=, --codepage= and --work-dir= are required "
               "(run_e2e.sh passes them)";
    return {};
}

std::wstring WindowsPath(const std::string& unixPath) {
    std::wstring w = L"Z:" + Wide(unixPath);
    for (auto& c : w)
        if (c == L'/') c = L'\\';
    return w;
}

}  // namespace e2e

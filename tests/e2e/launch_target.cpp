// The launch target of the end-to-end test: when started, it records the folder it was started
// in into the file named by TAVRIK_E2E_MARKER (written beside it and renamed, so a reader never
// sees half a file).

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

int main() {
    const char* marker = std::getenv("TAVRIK_E2E_MARKER");
    if (marker == nullptr || *marker == '\0') return 2;
    const std::filesystem::path target(marker);
    std::filesystem::path partial = target;
    partial += ".part";
    {
        std::ofstream out(partial, std::ios::trunc);
        out << std::filesystem::current_path().string() << '\n';
        if (!out) return 1;
    }
    std::error_code ec;
    std::filesystem::rename(partial, target, ec);
    return ec ? 1 : 0;
}

// CMD5 over a cached 1 GiB file against md5sum of the same file, timed in the same run.
//   zorv_md5_bench [MiB]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "update/CMD5.h"

namespace {

double Seconds(const std::function<void()>& work)
{
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::wstring DigestOf(const std::filesystem::path& path)
{
    CMD5 md5;
    md5.Init();
    md5.AssignFile(path.wstring().c_str());
    bool more;
    do {
        more = md5.ReadBlock();
        md5.Transform();
    } while (more);
    md5.FormatDigest();
    return md5.GetDigest() ? md5.GetDigest() : L"";
}

}  // namespace

int main(int argc, char** argv)
{
    long mebibytes = argc > 1 ? std::atol(argv[1]) : 1024;
    auto path = std::filesystem::temp_directory_path() / ("zorv-md5-bench-" + std::to_string(getpid()));
    {
        std::ofstream out(path, std::ios::binary);
        std::mt19937_64 random(1);
        std::vector<std::uint64_t> block(1 << 17);
        for (long i = 0; i < mebibytes; ++i) {
            for (auto& word : block)
                word = random();
            out.write(reinterpret_cast<const char*>(block.data()), 1 << 20);
        }
    }
    std::string command = "md5sum '" + path.string() + "' > /dev/null";
    if (std::system(command.c_str()) != 0)  // warms the page cache
        return 1;
    double reference = 1e9, ours = 1e9;
    std::wstring digest;
    for (int round = 0; round < 3; ++round) {
        reference = std::min(reference, Seconds([&] { (void)std::system(command.c_str()); }));
        ours = std::min(ours, Seconds([&] { digest = DigestOf(path); }));
    }
    std::filesystem::remove(path);
    std::printf("CMD5 over %ld MiB: %.3f s; md5sum: %.3f s; ratio %.3f (aim: at most 1.05)\n", mebibytes, ours,
                reference, ours / reference);
    return 0;
}

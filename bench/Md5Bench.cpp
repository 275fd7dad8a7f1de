// CMD5 over a cached 1 GiB file against md5sum of the same file, timed in the same run.
//   zorv_md5_bench [MiB]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "Alternation.h"
#include "update/CMD5.h"

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
    std::wstring digest;
    Comparison times = Alternate([&] { digest = CMD5::DigestFile(path.wstring().c_str()); }, [&] { (void)std::system(command.c_str()); });
    std::filesystem::remove(path);
    std::string what = "CMD5 over " + std::to_string(mebibytes) + " MiB";
    PrintComparison(what.c_str(), "md5sum", times, 1.05);
    return 0;
}

// The whole content of a file; empty when it cannot be read.
#pragma once

#include <filesystem>
#include <string>

std::string ReadAll(const std::filesystem::path& path);

// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/batch_plan.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace calvex::cli {

namespace fs = std::filesystem;

namespace {

std::string Quoted(const fs::path& path)
{
    return "\"" + path.string() + "\"";
}

// Why dir cannot take the outputs; empty when it can.
std::string FolderProblem(const fs::path& dir)
{
    std::error_code error;
    if (!fs::is_directory(dir, error))
        return "the output folder " + Quoted(dir) + " is not a folder" +
               (error ? ": " + error.message() : std::string());
    if (access(dir.c_str(), W_OK | X_OK) != 0)
        return "the output folder " + Quoted(dir) + " is not writable: " + std::strerror(errno);
    return {};
}

// The same file on disk, or the same path once resolved.
bool SameFile(const fs::path& a, const fs::path& b)
{
    std::error_code error;
    if (fs::equivalent(a, b, error))
        return true;
    const fs::path first = fs::weakly_canonical(a, error);
    return !error && first == fs::weakly_canonical(b, error) && !error;
}

} // namespace

BatchPlan PlanBatch(const std::vector<std::string>& sources, const std::string& outputDir)
{
    BatchPlan plan;
    if (std::string problem = FolderProblem(outputDir); !problem.empty())
        return {{}, problem};
    std::map<fs::path, std::string> sourceOf; // each output, resolved, and its source
    for (const std::string& source : sources) {
        const fs::path name = fs::path(source).stem();
        if (name.empty() || name == "." || name == "..")
            return {{}, Quoted(source) + " names no file"};
        const fs::path output = fs::path(outputDir) / name.string().append(".avi");
        std::error_code error;
        const fs::path resolved = fs::weakly_canonical(output, error);
        const auto [earlier, isNew] = sourceOf.emplace(error ? output : resolved, source);
        if (!isNew)
            return {{},
                    Quoted(earlier->second) + " and " + Quoted(source) + " would both become " +
                        Quoted(output)};
        for (const std::string& other : sources) {
            if (SameFile(output, other))
                return {{},
                        Quoted(output) + ", the output of " + Quoted(source) +
                            ", is one of the sources"};
        }
        plan.files.push_back({source, output.string()});
    }
    return plan;
}

} // namespace calvex::cli

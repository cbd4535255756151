// SPDX-License-Identifier: GPL-2.0-or-later
// Which file each source of a batch becomes, and the batches refused before
// anything starts: an output folder that is not a writable folder, two
// sources that would give the same output, an output that would replace a
// source.
#pragma once

#include <string>
#include <vector>

namespace calvex::cli {

struct BatchFile {
    std::string source;
    std::string output; // DIR/NAME.avi, NAME the source's name without its extension
};

struct BatchPlan {
    std::vector<BatchFile> files;
    std::string error; // why the batch is refused; empty when it is not
};

BatchPlan PlanBatch(const std::vector<std::string>& sources, const std::string& outputDir);

} // namespace calvex::cli

#pragma once

#include <string>
#include <vector>

namespace vorlen::ladder {

// Slurm's own commands, run with their words apart (no shell of ours).
struct SlurmAnswer {
    bool ok = false;
    std::string out; // what the command wrote
};

// Submits an array job of `tasks` tasks, each running the shell line
// `line` (which reads its task's index from SLURM_ARRAY_TASK_ID), its
// output in `logs`/JOB_TASK.out; the job's id.
SlurmAnswer submitArray(const std::string& line, int tasks, const std::string& logs, const std::string& name);
// Whether Slurm still lists the job (queued or running).
bool jobListed(const std::string& job);
void cancelJob(const std::string& job);

// A word for the shell, whatever it holds: in single quotes.
std::string shellWord(const std::string& word);

} // namespace vorlen::ladder

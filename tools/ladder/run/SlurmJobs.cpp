#include "SlurmJobs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>

extern char** environ;

namespace vorlen::ladder {
namespace {

// Runs a program found in PATH with these words; its output and whether it
// succeeded.
SlurmAnswer runSlurm(const std::vector<std::string>& argv)
{
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    std::vector<char*> args;
    for (const std::string& word : argv)
        args.push_back(const_cast<char*>(word.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    SlurmAnswer answer;
    std::array<char, 4096> buffer{};
    for (ssize_t got; (got = ::read(pipe[0], buffer.data(), buffer.size())) > 0;)
        answer.out.append(buffer.data(), static_cast<std::size_t>(got));
    ::close(pipe[0]);
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid)
        return answer;
    answer.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return answer;
}

} // namespace

std::string shellWord(const std::string& word)
{
    std::string quoted = "'";
    for (const char ch : word)
        quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return quoted + "'";
}

SlurmAnswer submitArray(const std::string& line, int tasks, const std::string& logs, const std::string& name)
{
    SlurmAnswer answer = runSlurm({"sbatch", "--parsable", "--job-name=" + name,
                                   "--array=0-" + std::to_string(tasks - 1), "--output=" + logs + "/%A_%a.out",
                                   "--wrap=" + line});
    // "JOB" or "JOB;CLUSTER", and a line end.
    answer.out = answer.out.substr(0, answer.out.find_first_of(";\n"));
    answer.ok = answer.ok && !answer.out.empty();
    return answer;
}

bool jobListed(const std::string& job)
{
    const SlurmAnswer answer = runSlurm({"squeue", "-h", "-o", "%i", "-j", job});
    // A job Slurm has forgotten makes squeue fail: it is not listed.
    return answer.ok && answer.out.find_first_not_of(" \n") != std::string::npos;
}

void cancelJob(const std::string& job) { runSlurm({"scancel", job}); }

} // namespace vorlen::ladder

#pragma once
// The server executable (orvane-server) run as a process of its own, its standard output read
// through a pipe, killed when the guard goes unless it was waited for, and when the test process
// dies (a server left running would hold the test's output open and keep CTest waiting).

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

namespace orvane::test {

class ServerProcess {
public:
    ServerProcess(const char* binary, std::vector<std::string> args)
    {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            std::vector<char*> argv{const_cast<char*>(binary)};
            for (auto& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(fds[1]);
        out_ = fdopen(fds[0], "r");
    }
    ~ServerProcess()
    {
        if (pid_ > 0 && !waited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_)
            fclose(out_);
    }
    std::string readLine()
    {
        char line[512] = {};
        return fgets(line, sizeof line, out_) ? line : "";
    }
    // The port of the server's "listening on ADDRESS:PORT" line; 0 (a failed test) when it ends first.
    std::uint16_t listeningPort()
    {
        const std::regex listening("listening on [0-9.]+:(\\d+)");
        std::smatch match;
        for (std::string line = readLine(); !line.empty(); line = readLine())
            if (std::regex_search(line, match, listening))
                return static_cast<std::uint16_t>(std::stoi(match[1]));
        ADD_FAILURE() << "the server ended without listening";
        return 0;
    }
    int stop(int signal)
    {
        kill(pid_, signal);
        return wait();
    }
    // Stops the server with its connections open, returning once every thread has stopped: the
    // signal alone leaves a window in which a request sent at once is still answered.
    void freeze() const
    {
        kill(pid_, SIGSTOP);
        int status = 0;
        waitpid(pid_, &status, WUNTRACED);
    }
    // Lets a frozen server go on.
    void thaw() const { kill(pid_, SIGCONT); }
    int wait()
    {
        int status = 0;
        waitpid(pid_, &status, 0);
        waited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    FILE* out_ = nullptr;
    bool waited_ = false;
};

} // namespace orvane::test

// What a piece of code prints on the process's standard output, caught at the file descriptor
// so it sees printf and std::cout alike.
#pragma once

#include <cstdio>
#include <string>

#include <unistd.h>

template <typename Run>
std::string StandardOutputOf(Run run)
{
    std::fflush(stdout);
    std::FILE* capture = std::tmpfile();
    const int saved = dup(1);
    dup2(fileno(capture), 1);
    run();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    std::string out;
    std::rewind(capture);
    for (int c = std::fgetc(capture); c != EOF; c = std::fgetc(capture))
        out += static_cast<char>(c);
    std::fclose(capture);
    return out;
}

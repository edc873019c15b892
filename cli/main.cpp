// quillon-cli: the calibration and analysis cores without a window. See the README.

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/command_table.h"

namespace {

// stdin as a stream buffer that reports a read error: std::cin takes one for the end of the
// input, and map must refuse input it could not read rather than map part of it.
class StdinBuffer : public std::streambuf {
  protected:
    int_type underflow() override {
        const std::size_t count = std::fread(buffer_, 1, sizeof buffer_, stdin);
        if (count == 0) {
            if (std::ferror(stdin)) {
                throw std::ios_base::failure("stdin");  // the istream turns this into badbit
            }
            return traits_type::eof();
        }
        setg(buffer_, buffer_, buffer_ + count);
        return traits_type::to_int_type(buffer_[0]);
    }

  private:
    char buffer_[65536];
};

}  // namespace

int main(int argc, char** argv) {
    StdinBuffer stdinBuffer;
    std::istream in(&stdinBuffer);
    // stdout through a buffer that keeps the reason of a failed write: run_command checks it.
    quillon::cli::DescriptorOutput stdoutBuffer(STDOUT_FILENO);
    std::ostream out(&stdoutBuffer);
    return quillon::cli::run_command(std::vector<std::string>(argv + 1, argv + argc),
                                     {in, out, std::cerr});
}

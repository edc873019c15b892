// The bare C++ program startup_bench measures quillon-cli's start-up against: built as the
// project builds its programs, with the same C++ runtime, and doing nothing.
int main() {}

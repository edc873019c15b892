#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <locale>

namespace {

// A C++ locale whose numbers use a decimal comma, for machines without a German locale.
struct CommaNumbers : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

}  // namespace

int main(int argc, char** argv) {
    const char* cLocale = std::setlocale(LC_ALL, "de_DE.UTF-8");
    std::locale::global(std::locale(std::locale::classic(), new CommaNumbers));
    std::printf("core tests run with LC_ALL=%s and a decimal-comma C++ locale\n",
                cLocale ? cLocale : "(de_DE.UTF-8 not installed; C)");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "support/QtTestRegistry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

// `PROGRAM Class [QtTest options]` runs the QtTest class Class; options alone
// (or none) run the GoogleTest cases.
int main(int argc, char** argv)
{
    if (argc > 1 && argv[1][0] != '-') {
        const QtTestMain run = FindQtTest(argv[1]);
        if (!run) {
            std::fprintf(stderr, "%s: no QtTest class %s in this program\n", argv[0], argv[1]);
            return 2;
        }
        // The class's main sees the program's name and the options after the class.
        std::vector<char*> args{argv[0]};
        args.insert(args.end(), argv + 2, argv + argc);
        args.push_back(nullptr);
        return run(argc - 1, args.data());
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

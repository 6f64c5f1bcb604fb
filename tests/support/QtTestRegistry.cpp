#include "support/QtTestRegistry.h"

#include <map>
#include <string>

namespace {

// Filled while the program's statics are initialised, read from main().
std::map<std::string, QtTestMain>& QtTestMains()
{
    static std::map<std::string, QtTestMain> mains;
    return mains;
}

} // namespace

bool RegisterQtTest(const char* className, QtTestMain main)
{
    return QtTestMains().emplace(className, main).second;
}

QtTestMain FindQtTest(const char* className)
{
    const auto found = QtTestMains().find(className);
    return found == QtTestMains().end() ? nullptr : found->second;
}

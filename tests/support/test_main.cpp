// The entry of every test program: GoogleTest's, plus a restore of the program's records before
// each case (see program_state.h).
#include <gtest/gtest.h>

#include "tests/support/program_state.h"

namespace {

class RestoreBeforeEachCase : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        ProgramStateRestore();
    }
};

}  // namespace

int main(int argc, char** argv) {
    ProgramStateRestore();  // the snapshot, before any case has run
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new RestoreBeforeEachCase);
    return RUN_ALL_TESTS();
}

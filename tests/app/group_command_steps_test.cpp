#include "app/group_command_steps.h"

#include <gtest/gtest.h>

#include "app/command_ids.h"

TEST(GroupCommandSteps, ListingByItemAndStartByRemoteSelection) {
    struct Case {
        int id;
        QByteArray selected;
        StepList steps;
    };
    const Case cases[] = {
        {kCmdGroupMlsd, "", {{"PWD", {}}, {"PASV", {}}, {"MLSD", {}}}},
        {kCmdGroupList, "/www/img", {{"CWD", "/www/img"}, {"PASV", {}}, {"LIST", {}}}},
        {kCmdGroupNlst, "名前 x", {{"CWD", "名前 x"}, {"PASV", {}}, {"NLST", {}}}},
        {kCmdConnect, "/www", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GroupCommandSteps(c.id, c.selected), c.steps) << c.id;
    }
}

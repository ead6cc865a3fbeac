#include <gtest/gtest.h>

#include "support/testSupport_win.h"

TEST(Prompt, OutOfMemoryMessageGoesThroughTheSeamWithTheSystemText) {
    ScriptedPrompt prompt;
    ShowOutOfMemoryMessage();
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_FALSE(prompt.messages[0].text.empty());
    EXPECT_TRUE(prompt.messages[0].caption.empty());
    EXPECT_EQ(prompt.messages[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(prompt.messages[0].owner, TestOwnerWindow());
}

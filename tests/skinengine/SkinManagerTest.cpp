// The manager: which windows and popups get skinned, the switch and its
// actions, and the matching of controls to skinners.
#include "SkinBox.h"
#include "SkinButton.h"
#include "SkinData.h"
#include "SkinEngineTestUtil.h"
#include "SkinEvents.h"
#include "SkinForm.h"
#include "SkinManager.h"

#include <QApplication>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class SkinManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallSkinManager();
        data = LoadedShippedSkin();
        manager = TSkinManager::Ensure();
        manager->Register(data.get());
        manager->SetSkinningOn(true);
    }
    void TearDown() override
    {
        data.reset();
        TSkinManager::DestroyInstance();
    }
    std::unique_ptr<TSkinData> data;
    TSkinManager* manager = nullptr;
};

TEST_F(SkinManagerTest, FormTaggedNinetyNineIsNeverSkinned)
{
    data->SetDisableTag(5);
    QWidget form;
    form.resize(200, 100);
    form.setProperty("Tag", 99);
    EXPECT_FALSE(manager->SkinWindow(&form));
    form.setProperty("Tag", 0);
    EXPECT_TRUE(manager->SkinWindow(&form));
    EXPECT_NE(manager->FindSkinForm(&form), nullptr);
}

} // namespace

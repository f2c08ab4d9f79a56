// The start-up steps that units above the framework register: they run in
// the order of registration once the application object exists, what they
// give the application to own is freed at the end after the forms, and a
// step that raises undoes the start-up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Forms.h"

namespace {

// What the steps below do; they stay idle in the other tests of this
// program, which start the framework too.
enum class StepMode { Idle, Record, Fail };
StepMode mode = StepMode::Idle;
std::vector<std::string> events;

class UnitObject : public TComponent {
public:
    explicit UnitObject(TComponent* owner) : TComponent(owner) {}
    ~UnitObject() override { events.push_back("unit object freed"); }
};

void FirstStep()
{
    if (mode == StepMode::Idle)
        return;
    events.push_back(Application ? "first, with the application" : "first, without an application");
    new UnitObject(Application);
}

void SecondStep()
{
    if (mode == StepMode::Fail)
        throw EInvalidOperation("the unit cannot start");
    if (mode == StepMode::Record)
        events.push_back("second");
}

const bool registered = RegisterUnitStartup(FirstStep) && RegisterUnitStartup(SecondStep);

class FrameworkStartUp : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(registered);
        ASSERT_EQ(Application, nullptr);
        events.clear();
    }
    void TearDown() override
    {
        mode = StepMode::Idle;
        FinalizeFramework();
    }
};

} // namespace

TEST_F(FrameworkStartUp, StepsRunInOrderOnceTheApplicationExists)
{
    mode = StepMode::Record;
    InitializeFramework();
    EXPECT_EQ(events, (std::vector<std::string>{"first, with the application", "second"}));
    {
        SCOPED_TRACE("starting an application that runs already runs no step");
        InitializeFramework();
        EXPECT_EQ(events.size(), 2u);
    }
}

TEST_F(FrameworkStartUp, WhatAStepGivesTheApplicationIsFreedAfterTheForms)
{
    mode = StepMode::Record;
    InitializeFramework();
    struct DestroyRecorder : TObject {
        void Destroyed(TObject*) { events.push_back("form destroyed"); }
    } recorder;
    TForm* form = nullptr;
    Application->CreateAppForm(form);
    form->SetOnDestroy(TNotifyEvent::Of<&DestroyRecorder::Destroyed>(&recorder));
    events.clear();
    FinalizeFramework();
    EXPECT_EQ(events, (std::vector<std::string>{"form destroyed", "unit object freed"}));
}

TEST_F(FrameworkStartUp, AFailingStepUndoesTheStartUpAndPassesItsErrorOn)
{
    mode = StepMode::Fail;
    try {
        InitializeFramework();
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "the unit cannot start");
    }
    EXPECT_EQ(Application, nullptr);
    // The first step's object went with the application.
    EXPECT_EQ(events, (std::vector<std::string>{"first, with the application", "unit object freed"}));

    mode = StepMode::Idle;
    InitializeFramework();
    EXPECT_NE(Application, nullptr);
}

#include "tests/e2e/UnattendedFixture.h"

void UnattendedTest::SetUp()
{
    InstallTest::SetUp();
    WriteProduct(m_dist.Path());
    m_log = m_target.Path() + "run log.txt";
}

std::string UnattendedTest::Setup(const std::string& arguments) const
{
    return Quoted(m_dist.Path() + "setup.exe") + " " + arguments;
}

std::string UnattendedTest::Size(const std::string& name) const
{
    return std::to_string(ReadWhole(m_dist.Path() + name).size());
}

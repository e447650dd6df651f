#include "EngineFixture.h"

#include "FileBytes.h"

EngineFixture::EngineFixture() {
    m_host.setTarget(target());
}

void EngineFixture::runToEnd() {
    m_engine.OnStart();
    m_host.waitForNotices();
}

std::string EngineFixture::targetBytes() const {
    return FileBytes::read(target());
}

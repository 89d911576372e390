#pragma once
#include "link/SerialLink.h"
#include "tools/LinkCommands.h"

namespace tarveon {

// The on-line tools' commands, sent through the serial link.
class SerialLinkCommands : public LinkCommands {
public:
    explicit SerialLinkCommands(SerialLink &link) : m_link(link) {}
    void TransmitTarveon(const QString &text, bool raw = false) override { m_link.TransmitTarveon(text, raw); }
    void ControlaBusTarveon(const QString &side, bool on) override { m_link.ControlaBusTarveon(side, on); }

private:
    SerialLink &m_link;
};

} // namespace tarveon

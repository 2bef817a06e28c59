#include "PbxConnection.h"

#include "base/SettingsSection.h"

namespace {
const QString kTypeSection = QStringLiteral("SavedConnectionType");
const QString kTypeValue = QStringLiteral("ConnectType");
} // namespace

PbxConnection::PbxConnection(QObject *parent)
    : QObject(parent)
    , m_type(storedType())
{
}

PbxConnection::~PbxConnection() = default;

int PbxConnection::storedType()
{
    return validType(CSettingsSection(kTypeSection).readInt(kTypeValue, Serial));
}

bool PbxConnection::storeType(int type)
{
    return CSettingsSection(kTypeSection).writeInt(kTypeValue, validType(type));
}

bool PbxConnection::setConnectionType(int type)
{
    m_type = validType(type);
    return storeType(m_type);
}

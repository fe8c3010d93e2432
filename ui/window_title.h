#pragma once

#include <QString>

inline const QString kWindowTitle = QStringLiteral("Quarn Settings V0.71");

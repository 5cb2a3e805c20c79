#pragma once

#include <QStringView>

/// Length of \a text in bytes of the Chinese code page (GBK), as the code page's converter
/// gives it: ASCII one byte, Chinese characters two, "€" one, and a character the code page
/// cannot hold one (it is stored as '?'). Without a converter (a Qt built without ICU) every
/// non-ASCII character of the Basic Multilingual Plane counts two. The program's layout limits
/// ("shorter than 24 bytes", "longer than 23 bytes") are measured with this.
int GbkLength(QStringView text);

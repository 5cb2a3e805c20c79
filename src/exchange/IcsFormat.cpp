#include "exchange/IcsFormat.h"

// Placeholder until the libical reader and writer land: both refuse every stream.
struct CIcsWriter::Impl
{
};
struct CIcsReader::Impl
{
};

CIcsWriter::CIcsWriter(QIODevice*) : d(std::make_unique<Impl>()) {}
CIcsWriter::~CIcsWriter() = default;
bool CIcsWriter::Begin()
{
    return false;
}
bool CIcsWriter::Write(const ExchangeItem&)
{
    return false;
}
bool CIcsWriter::Finish()
{
    return false;
}
QString CIcsWriter::ErrorString() const
{
    return QStringLiteral("not built yet");
}

CIcsReader::CIcsReader(QIODevice*) : d(std::make_unique<Impl>()) {}
CIcsReader::~CIcsReader() = default;
CIcsReader::Step CIcsReader::Next(ExchangeItem&, ExchangeLeftOut&)
{
    return Step::Failed;
}
QString CIcsReader::ErrorString() const
{
    return QStringLiteral("not built yet");
}

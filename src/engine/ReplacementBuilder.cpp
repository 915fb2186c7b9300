#include "ReplacementBuilder.h"

#include "platform/LoadLimit.h"

ReplacementBuilder::ReplacementBuilder(const QString &original, bool keep)
    : m_original(original), m_keep(keep), m_limit(LoadLimit::maxFileSize())
{
    if (keep)
        m_out.reserve(original.size());
}

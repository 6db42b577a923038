#include "remote/per_line_listing_grammar.h"

ParsedLine PerLineListingGrammar::readLine(QByteArray line) const {
    if (facts_ && MlsdListingGrammar::isFactStyle(line))
        return mlsd_.readLine(std::move(line));
    if (std::optional<ParsedLine> parsed = unix_.readUnixStyleLine(line))
        return std::move(*parsed);
    if (DosListingGrammar::isDosStyle(line))
        return dos_.readLine(std::move(line));
    return UnreadLine(line);
}

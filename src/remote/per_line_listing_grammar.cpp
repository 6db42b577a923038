#include "remote/per_line_listing_grammar.h"

ParsedLine PerLineListingGrammar::readLine(QByteArray line) const {
    if (facts_ && MlsdListingGrammar::isFactStyle(line))
        return mlsd_.readLine(std::move(line));
    if (UnixListingGrammar::isUnixStyle(line))
        return unix_.readLine(std::move(line));
    if (DosListingGrammar::isDosStyle(line))
        return dos_.readLine(std::move(line));
    return UnreadLine(line);
}

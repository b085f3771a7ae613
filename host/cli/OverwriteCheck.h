#pragma once
// Every command that writes a file refuses an output that is one of its inputs, whatever the name
// it is given by (another spelling, a link): writing it would destroy what the command reads.
#include <string>
#include <vector>

// True, after the one-line error "geosig: OUTPUT: is the input INPUT: it would be overwritten", when
// iOutput is one of iInputs.
bool RefusesToOverwrite(const std::string& iOutput, const std::vector<std::string>& iInputs);

// The files of a catalog database that its readers read: the database and the write-ahead log,
// shared memory and journal that SQLite keeps beside it.
std::vector<std::string> CatalogDatabaseFiles(const std::string& iDatabase);

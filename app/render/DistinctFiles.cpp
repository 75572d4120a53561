#include "app/render/DistinctFiles.h"

#include "batch/FileIdentity.h"

std::string SameFileReason(const std::vector<TNamedFile>& files)
{
    std::vector<TFileIdentity> ids;
    for (const TNamedFile& f : files)
        ids.push_back(IdentityOf(f.Path));
    for (std::size_t i = 0; i < files.size(); ++i)
        for (std::size_t j = i + 1; j < files.size(); ++j)
            if (SameFile(ids[i], ids[j]))
                return files[j].Role + " '" + files[j].Path + "' is the same file as " + files[i].Role + " '" +
                       files[i].Path + "'";
    return {};
}

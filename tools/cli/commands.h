// The subcommands of dova-cli, each returning its exit code.
#pragma once

#include <string>

#include "cli/cli.h"

namespace dova::cli {

enum class ExportFormat { json, markdown, text };

struct CommandContext {
    Io& io;
    std::string password;  // GBK
    bool force = false;
};

int decrypt_command(CommandContext& c, const std::string& book);
int encrypt_command(CommandContext& c, const std::string& plain, const std::string& book);
int list_command(CommandContext& c, const std::string& book);
int export_command(CommandContext& c, const std::string& book, ExportFormat format);
int create_command(CommandContext& c, const std::string& book, const std::string& from);

}  // namespace dova::cli

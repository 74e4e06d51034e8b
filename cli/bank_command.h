// kavtamor bank: bank files (.kvb) written from and read into the module.
#pragma once

namespace kt {

int runBankCommand(int argc, char** argv);

}  // namespace kt

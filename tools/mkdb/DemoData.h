#pragma once

class Connection;

// Fills a fresh database with a few categories and about thirty contacts.
void fillDemoData(Connection &connection);

#include "data/Command.h"

#include "data/Connection.h"
#include "data/DbError.h"

int Command::execute()
{
    if (!m_connection)
        throw DbError("command has no connection");
    return m_connection->execute(m_sql);
}

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>vbLoginClass</name>
    <message>
        <source>vbLogin</source>
        <translation>Log In</translation>
    </message>
    <message>
        <source>Please enter your email&amp;password</source>
        <translation>Please enter your e-mail address and password</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>E-mail:</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Forget Password</source>
        <translation>Forgot password?</translation>
    </message>
    <message>
        <source>autoLogin</source>
        <translation>Log in automatically</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>Log in</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>Status:</translation>
    </message>
</context>
<context>
    <name>vbLogin</name>
    <message>
        <source>Tips</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>Please enter you Email!</source>
        <translation>Please enter your e-mail address.</translation>
    </message>
    <message>
        <source>Please enter you password!</source>
        <translation>Please enter your password.</translation>
    </message>
    <message>
        <source>login...</source>
        <translation>Logging in...</translation>
    </message>
    <message>
        <source>download photo list...</source>
        <translation>Downloading your album list...</translation>
    </message>
    <message>
        <source>Login failed.Please check your E-mail and password!</source>
        <translation>Login failed. Please check your e-mail address and password.</translation>
    </message>
    <message>
        <source>login OK</source>
        <translation>Logged in</translation>
    </message>
    <message>
        <source>Visit </source>
        <translation>Could not reach </translation>
    </message>
    <message>
        <source> failed.Please check network and try again</source>
        <translation>. Please check your network connection and try again.</translation>
    </message>
</context>
<context>
    <name>vbNewAlbumsClass</name>
    <message>
        <source>vbNewAlbums</source>
        <translation>New Album</translation>
    </message>
    <message>
        <source>Create New Albums</source>
        <translation>Create a new album</translation>
    </message>
    <message>
        <source>Album name:</source>
        <translation>Album name:</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Date:</translation>
    </message>
    <message>
        <source>Descripte:</source>
        <translation>Description:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>vbNewAlbums</name>
    <message>
        <source>Network error!</source>
        <translation>Network error. Please try again.</translation>
    </message>
    <message>
        <source>Create Albums failed!</source>
        <translation>The album could not be created.</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>Notice</translation>
    </message>
</context>
<context>
    <name>vbSignIn</name>
    <message>
        <source>Login failed.Please check your E-mail and password!</source>
        <translation>Login failed. Please check your e-mail address and password.</translation>
    </message>
    <message>
        <source>Visit </source>
        <translation>Could not reach </translation>
    </message>
    <message>
        <source> failed.Please check network and try again</source>
        <translation>. Please check your network connection and try again.</translation>
    </message>
</context>
<context>
    <name>vbServiceCall</name>
    <message>
        <source>The velbrook service cannot be reached. Please check your network connection and try again.</source>
        <translation>The velbrook service cannot be reached. Please check your network connection and try again.</translation>
    </message>
    <message>
        <source>The answer of the velbrook service could not be read. Please try again later.</source>
        <translation>The answer from the velbrook service could not be read. Please try again later.</translation>
    </message>
    <message>
        <source>Service unreachable</source>
        <translation>Service unreachable</translation>
    </message>
    <message>
        <source>Service answer unreadable</source>
        <translation>Service answer unreadable</translation>
    </message>
</context>
</TS>

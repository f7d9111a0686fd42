<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>vbLoginClass</name>
    <message>
        <source>vbLogin</source>
        <translation>登录</translation>
    </message>
    <message>
        <source>Please enter your email&amp;password</source>
        <translation>请输入您的电子邮箱和密码</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>用户：</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>注册</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密码：</translation>
    </message>
    <message>
        <source>Forget Password</source>
        <translation>忘记密码</translation>
    </message>
    <message>
        <source>autoLogin</source>
        <translation>自动登录</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>登录</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>状态：</translation>
    </message>
</context>
<context>
    <name>vbLogin</name>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Please enter you Email!</source>
        <translation>请输入您的电子邮箱！</translation>
    </message>
    <message>
        <source>Please enter you password!</source>
        <translation>请输入您的密码！</translation>
    </message>
    <message>
        <source>login...</source>
        <translation>正在登录...</translation>
    </message>
    <message>
        <source>download photo list...</source>
        <translation>正在下载相册列表...</translation>
    </message>
    <message>
        <source>Login failed.Please check your E-mail and password!</source>
        <translation>登录失败。请检查您的电子邮箱和密码！</translation>
    </message>
    <message>
        <source>login OK</source>
        <translation>登录成功</translation>
    </message>
</context>
<context>
    <name>vbNewAlbumsClass</name>
    <message>
        <source>vbNewAlbums</source>
        <translation>新建相册</translation>
    </message>
    <message>
        <source>Create New Albums</source>
        <translation>创建新相册</translation>
    </message>
    <message>
        <source>Album name:</source>
        <translation>相册名称：</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>日期：</translation>
    </message>
    <message>
        <source>Descripte:</source>
        <translation>描述：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>vbNewAlbums</name>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Create Albums failed!</source>
        <translation>创建相册失败！</translation>
    </message>
</context>
<context>
    <name>vbSignIn</name>
    <message>
        <source>Login failed.Please check your E-mail and password!</source>
        <translation>登录失败。请检查您的电子邮箱和密码！</translation>
    </message>
</context>
<context>
    <name>vbServiceCall</name>
    <message>
        <source>The velbrook service cannot be reached. Please check your network connection and try again.</source>
        <translation>无法连接维尔布鲁克服务。请检查网络连接后重试。</translation>
    </message>
    <message>
        <source>The answer of the velbrook service could not be read. Please try again later.</source>
        <translation>无法读取维尔布鲁克服务的回答。请稍后重试。</translation>
    </message>
    <message>
        <source>Service unreachable</source>
        <translation>无法连接服务</translation>
    </message>
    <message>
        <source>Service answer unreadable</source>
        <translation>无法读取服务的回答</translation>
    </message>
</context>
</TS>

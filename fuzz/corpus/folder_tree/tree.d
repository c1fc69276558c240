General
	Customers
		Smith
	Suppliers
Private
